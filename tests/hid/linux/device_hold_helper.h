// The backend test program doubles as a process that holds a device: run
// with kHoldHelperArgument and a node, it takes the hold on the node, says
// 'H' on its output and waits to be killed.
#pragma once

namespace lumetra::test {

inline constexpr char kHoldHelperArgument[] = "--hold-device-until-killed";

// Runs the helper when the arguments ask for it (and never returns then).
void RunHoldHelperIfAsked(int argc, char** argv);

}  // namespace lumetra::test
