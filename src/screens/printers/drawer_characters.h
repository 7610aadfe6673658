// What the printer screens share whose printers open a drawer on a single control character
// (BEL for drawer 1, FS as its alternate, SUB for drawer 2): their triggers, and the test their
// parallel screens send.
#pragma once

#include "screens/printers/printer_screen.h"

namespace screens {

inline constexpr const char* kCharacterDrawer1Caption = " Primary Trigger Character is Hex '07' ";

// The single-character triggers, with the caption drawer 1's primary trigger shows.
DrawerTriggers characterTriggers(const char* drawer1Caption = kCharacterDrawer1Caption);

// The parallel screens' test: ESC @ (initialise), the page of Text1, ESC a 8 (feed 8 lines),
// ESC d 0 (cut), then the drawer character.
TestSequence characterParallelSequence();

}  // namespace screens
