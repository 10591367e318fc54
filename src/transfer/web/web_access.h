#pragma once

// The web access layer: the program's only road to the network. A session
// opens page streams and HTTP connections; a connection opens requests;
// every stream reads lines (ReadString) or raw bytes (Read); failures raise
// CInternetException, or CFileException for local files.
#include "framework/stdio_file.h"
#include "transfer/web/http_connection.h"
#include "transfer/web/http_file.h"
#include "transfer/web/internet_exception.h"
#include "transfer/web/internet_file.h"
#include "transfer/web/internet_session.h"
