#pragma once
#include <cstdint>
#include <string>

#include "PropVariant.h"
#include "SevenZipInterfaces.h"

// An item's property as the library gives it, every result checked as 7-Zip's own
// client checks it: false when the library fails to give it, or gives it as a
// type the property never has. A property the archive does not hold (VT_EMPTY)
// reads as 0 or empty.
bool ReadItemProperty(IInArchive* archive, uint32_t index, PROPID id, PropVariant& value);
// By the directory attribute, or the item's own flag when its attributes lack it
// (archives from elsewhere may leave them out); false when the flag cannot be read.
bool ReadIsDirectory(IInArchive* archive, uint32_t index, uint64_t attributes, bool& isDirectory);
// The library's count of items, at most what an index of the component holds;
// false when the library fails to say.
bool ReadItemCount(IInArchive* archive, uint32_t& count);
