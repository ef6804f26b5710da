#pragma once
// The virtual-key codes of the classic window system for Qt's keys, as the program's key
// message carries them.

#include <cstdint>

namespace desktop {

// The code of `qtKey` (a Qt::Key value); keys without a code of their own get 0xFF, which,
// like every real key, is neither 0 nor 1.
uint32_t virtualKeyCode(int qtKey);

}  // namespace desktop
