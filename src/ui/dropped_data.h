#pragma once

#include "transfer/handed_addresses.h"

#include <objidl.h>

// What the data of a drag hands Clipwell. Of the formats it offers, the
// first of these is taken: a link (UniformResourceLocatorW, then its ANSI
// form UniformResourceLocator), files (CF_HDROP: shortcuts or lists), and
// text (CF_UNICODETEXT, then CF_TEXT), one address or several lines.

// True when data hands over files, or text with at least one address:
// then the drop is taken.
bool OffersAddresses(IDataObject& data);

// The addresses data hands over, what they are not and the files that
// could not be read; all empty when it offers none of the formats.
HandedAddresses DroppedAddresses(IDataObject& data);
