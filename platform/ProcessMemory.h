// How the process's heap behaves. The windows hold pictures of a megabyte or
// more that are let go once their controls are cut; with the C library's
// default (a threshold that rises as big blocks are freed) such pictures
// land in the heap proper and their pages stay resident after they are freed.
#pragma once

namespace qx {

// Large blocks always come straight from the system and go back to it when
// freed. Call once, first thing in main.
void ReturnLargeBlocksToTheSystem();

}  // namespace qx
