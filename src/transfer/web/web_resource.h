/* Ids of the web access layer's own string resources: plain texts for the
   failures whose library text names neither the address nor what it means
   for the user. %1 is the address; %2 what the server sent (a redirect's
   next address, or its status), or the proxy's name. Plain defines, because the resource
   compiler reads this header too. */
#pragma once

#define IDS_WEB_UNTRUSTED_AUTHORITY 300
#define IDS_WEB_UNCHECKED_CHAIN 301
#define IDS_WEB_WRONG_HOST 302
#define IDS_WEB_EXPIRED 303
#define IDS_WEB_NO_TLS 304
#define IDS_WEB_BAD_CERTIFICATE 305
#define IDS_WEB_KEPT_REDIRECTING 306
#define IDS_WEB_NOWHERE_TO_GO 307
#define IDS_WEB_PROXY_PASSWORD 308
#define IDS_WEB_PAGE_TOO_LONG 309
