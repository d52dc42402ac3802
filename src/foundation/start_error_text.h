#pragma once
// The message shown when a program cannot be started, by the shell's result
// code. The text still needs localising; "%s" takes the file name and, in
// the unknown case, "%d" the code.

namespace vo {

const wchar_t* StartErrorFormat(int code);

}  // namespace vo
