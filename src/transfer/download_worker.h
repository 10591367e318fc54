#pragma once

class CMainDlg;

// The download worker's thread procedure: copies the response of the last
// grab into the output file, 1024 bytes at a time, showing the count after
// each chunk, until the body ends or the transfer flag is cleared. Always
// ends with the file closed, the flag clear and "Grab!" enabled; a failure
// is then reported on the user-interface thread, unless the user had asked
// the transfer to stop.
unsigned __stdcall DownloadWorker(void* dialog);

// Asks a running worker to stop and waits until it has ended, carrying out
// the control updates it sends meanwhile; then releases its response.
void StopWorker(CMainDlg& dialog);
