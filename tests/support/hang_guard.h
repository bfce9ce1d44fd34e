#pragma once
// How long a window test waits for something (a window exposed, a state reached) before the
// wait counts as a hang. It only turns a would-be hang into a failure, well inside ctest's own
// limit: nothing that merely runs slowly on a busy machine comes near it.

namespace nv4test {

constexpr int kHangGuardMs = 60 * 1000;

}  // namespace nv4test
