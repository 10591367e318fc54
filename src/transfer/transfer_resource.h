/* Ids of the transfer's own string resources. Plain defines, because the
   resource compiler reads this header too. */
#pragma once

/* The status text while a broken transfer waits to continue: %1 bytes so
   far, %2 the length, %3 seconds left, %4 the coming try, %5 the tries. */
#define IDS_TRANSFER_WAITING 200
/* The status text during a transfer: %1 the bytes so far, %2 the
   Content-Length as sent. */
#define IDS_TRANSFER_STATUS 201

/* The reports of a transfer that did not bring the whole video. What the
   file holds: %1 the file's name, %2 the bytes it keeps, %3 of how many
   (in "only part arrived": %1 and %2 the counts, %3 the name). */
#define IDS_REPORT_ONLY_PART_ARRIVED 210
#define IDS_REPORT_FILE_EMPTY 211
#define IDS_REPORT_FILE_KEEPS_ARRIVED 212
#define IDS_REPORT_FILE_KEEPS 213
#define IDS_REPORT_FILE_KEEPS_PART 214
/* %1 a failure's own text, %2 what the file holds. */
#define IDS_REPORT_FAILED 220
/* %1 the server's status line, %2 what the file holds. */
#define IDS_REPORT_REST_REFUSED 221
/* %1 what the file holds. */
#define IDS_REPORT_NO_REPLY 222
#define IDS_REPORT_ENDED_EARLY 225
/* %1 the file's name. */
#define IDS_REPORT_NO_STATUS_LINE 223
/* %1 the server's status line, %2 the file's name. */
#define IDS_REPORT_NOT_THE_VIDEO 224
/* A second Clipwell would write the partial file another is writing: %1
   is the partial's name. */
#define IDS_TRANSFER_IN_USE 205
/* The same, when a program that is no Clipwell has the partial open. */
#define IDS_TRANSFER_HELD_OPEN 206
/* The whole video could not take its name: %1 the name, %2 the failure's
   own text, %3 the partial's name. */
#define IDS_REPORT_NAME_HELD 226
/* Added to a grab's end: bytes of something else that were under the
   partial's name are kept under the name %2; %1 the partial's name. */
#define IDS_REPORT_SET_ASIDE 227
/* Added to a report, or to the word of a stop, that kept a partial file
   with its record. */
#define IDS_TRANSFER_CONTINUES 202
/* Closing the window stopped a transfer: %1 bytes kept in the partial %2. */
#define IDS_TRANSFER_STOPPED_KEPT 203
/* The status once a server has agreed to send the rest: %1 the bytes
   already in the file, %2 the length. */
#define IDS_TRANSFER_CONTINUING 204

/* The one report at a queue's end: %1 of the %2 addresses ended whole;
   then each that did not (%1 the address, %2 what its grab's report
   said), the addresses not grabbed when the queue was stopped, and the
   lines of a list that are no address (%1 the lines, one a line). */
#define IDS_QUEUE_ENDED 230
#define IDS_QUEUE_ITEM 231
#define IDS_QUEUE_NOT_GRABBED 232
#define IDS_QUEUE_NO_ADDRESSES 233
