#pragma once

// The key codes and character codes the windows' keyboard rules are written in:
// 13 Enter, 9 Tab, 32 Space, 48-57 main-keyboard digits, 65-90 letters,
// 96-105 numeric-keypad digits, 112-123 F1-F12.
namespace CodiciTasto {
constexpr int Invio = 13;
constexpr int Tab = 9;
constexpr int Spazio = 32;
constexpr int F2 = 113;
constexpr int F3 = 114;
constexpr int Cifra(int n) { return 48 + n; }
constexpr int CifraTastierino(int n) { return 96 + n; }
constexpr int Lettera(char maiuscola) { return maiuscola; }
} // namespace CodiciTasto
