// SPDX-License-Identifier: MIT
#pragma once

// Standard input and output as a parent process handed them over, which may
// have made them non-blocking: the terminal mode waits for them rather than
// taking "try again" for a failure. Each system has its own file.
namespace Monvert::Terminal {

enum class Direction { Reading, Writing };

// Whether the error of a read or write means the descriptor is non-blocking
// and not ready yet.
[[nodiscard]] bool notReadyYet(int error);

// Returns once the descriptor can be read or written, or has failed (the
// next read or write then says why).
void waitUntilReady(int fd, Direction direction);

// Reads what there is, as read() does, up to `size` bytes: from a file or a
// pipe its bytes, from a Windows console the characters typed, in UTF-8.
[[nodiscard]] long readInput(int fd, char *buffer, unsigned size);

} // namespace Monvert::Terminal
