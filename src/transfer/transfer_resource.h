/* Ids of the transfer's own string resources. Plain defines, because the
   resource compiler reads this header too. */
#pragma once

/* The status text while a broken transfer waits to continue: %1 bytes so
   far, %2 the length, %3 seconds left, %4 the coming try, %5 the tries. */
#define IDS_TRANSFER_WAITING 200
