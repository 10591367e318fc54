#pragma once

class CMainDlg;

// The Grab command: reads the address from the URL box, fetches and
// analyses the page, creates the output file, sends the video request and
// starts the download worker on it. A running transfer is stopped and
// awaited first. Every failure leaves as a framework exception, before
// anything of a failed grab is started.
void RunGrabCommand(CMainDlg& dialog);
