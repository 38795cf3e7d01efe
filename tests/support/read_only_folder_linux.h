// Making a folder unwritable for everybody, root included, for the tests
// of failed saves.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace spreadsheet::testing {

// Runs `action` in a child process that sees `folder` as a read-only mount,
// in a private mount namespace of its own: nothing can be created, renamed
// or removed in it, whatever the user's rights, while the files already in
// it stay writable in place (so only a save that never writes into the old
// file keeps it whole). Answers what the action returned, or nothing where
// the system grants no private mount namespace.
std::optional<std::string> InReadOnlyFolder(const std::filesystem::path& folder,
                                            const std::function<std::string()>& action);

}  // namespace spreadsheet::testing
