// MIT-OE vehicle messages: the CCL type numbering plus a second vehicle state
// (local easting and northing) and a sonar report, decoded from frames
// received from a node set to "MIT-OE Frames".
#pragma once

#include "frames/data_frame.h"

namespace tw {

// The name MIT-OE frames give a type byte: the shared vehicle message names
// of 6 to 17, then 18 (MDAT_STATE2) and 255 (SONAR); nullptr for any other.
const char* MitoeTypeName(int type);

// Prints the type announcement with the source node; for MDAT_STATE2 and
// SONAR, and only when showData (the source node's flag) is set, their detail
// lines follow. A frame too short for those lines prints one line saying so
// instead; nothing past frame.length is read.
void DecodeMitoeFrame(const DataFrame& frame, bool showData, const PrintFn& print);

}  // namespace tw
