/* Ids of the transfer's own string resources. Plain defines, because the
   resource compiler reads this header too. */
#pragma once

/* The status text while a broken transfer waits to continue: %1 bytes so
   far, %2 the length, %3 seconds left, %4 the coming try, %5 the tries. */
#define IDS_TRANSFER_WAITING 200
/* A second Clipwell would write the partial file another is writing: %1
   is the partial's name. */
#define IDS_TRANSFER_IN_USE 201
/* Added to a report, or to the word of a stop, that kept a partial file
   with its record. */
#define IDS_TRANSFER_CONTINUES 202
/* Closing the window stopped a transfer: %1 bytes kept in the partial %2. */
#define IDS_TRANSFER_STOPPED_KEPT 203
/* The status once a server has agreed to send the rest: %1 the bytes
   already in the file, %2 the length. */
#define IDS_TRANSFER_CONTINUING 204
