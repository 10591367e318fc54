#pragma once

#include "transfer/transfer_window.h"

// The Grab command: reads the address from the URL box, fetches and
// analyses the page (the window's messages running meanwhile), creates the
// output file and starts the download worker, which sends the video
// request. A running transfer is stopped first. Every failure leaves as a
// framework exception, before anything of a failed grab is started. A
// Grab while an earlier one still waits for its page is ignored, and a
// grab whose window is asked to end while it waits goes no further.
void RunGrabCommand(TransferWindow& window);
