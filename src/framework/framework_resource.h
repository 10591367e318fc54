/* Ids of the framework's own string resources. Plain defines, because the
   resource compiler reads this header too. */
#pragma once

#define AFX_IDS_UNNAMED_FILE          61446
#define AFX_IDP_NO_ERROR_AVAILABLE    61472
#define AFX_IDP_FAILED_MEMORY_ALLOC   61475
#define AFX_IDP_FAILED_INVALID_ARG    61477
#define AFX_IDP_FAILED_TO_LAUNCH_HELP 61703
#define AFX_IDP_INTERNAL_FAILURE      61704
#define AFX_IDP_COMMAND_FAILURE       61705
/* File error texts: AFX_IDP_FILE_NONE plus the cause, 0 to 14. */
#define AFX_IDP_FILE_NONE             61856
#define AFX_IDP_FILE_EOF              61870
