#pragma once

// The keys of the voice, in the windows' key codes. No rule of the start or
// exercise window uses them, and they sit away from the digits a pupil presses.
namespace TastiVoce {
constexpr int Ripeti = 'R'; // the last sentence again
constexpr int Conta = 'C';  // how many pictures each set holds now
} // namespace TastiVoce
