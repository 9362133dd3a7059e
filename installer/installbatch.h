#pragma once

#include "progress.h"
#include "status.h"
#include "themefiles.h"

#include <string>
#include <vector>

namespace vpak {

// The package's own files, which the install copies along with the sounds and
// then removes from the game directory again.
using vesk::kPackageOwnFiles;

using vesk::batchCommandLine;

// The lines of 1.bat for a target directory T:
//   copy *.* T
//   del T\install.exe, del T\bgimage.jpg, del T\theme.cfg, del T\SHA256SUMS
// A target that holds a blank, or a character the command interpreter would
// take as an operator (& | < > ^ ( ) , ; =), or that begins with a double
// quote, is written within double quotes so that it is taken as one literal
// path; every "%" is written "%%", which the interpreter reads as one "%".
// Other targets stand as typed.
//
// A target with bytes beyond ASCII stands as "%VESK_TARGET%" instead: the
// command interpreter reads a batch file in the console's code page, which
// cannot hold every name, while a variable of its environment holds any. The
// installer sets that variable (setBatchTarget) before it starts the batch,
// which inherits it.
std::vector<std::string> batchLines(const std::string &target);
inline constexpr const char *kTargetVariable = "VESK_TARGET";
// The path a path argument of 1.bat stands for, read as the command
// interpreter reads it: quotes dropped, "%%" as "%", "%NAME%" as the
// variable of the environment (empty when unknown).
std::string batchPath(std::string argument);
vesk::Status setBatchTarget(const std::string &target);

// The install goes only into an existing directory that is not the package
// itself: copying into a missing T would make one file named T, and the
// package's own directory would lose its picture and description. A path
// with a line break is refused too: it would add lines of its own to 1.bat.
// So is a path that is not absolute (on Windows "C:Game" and "\Game" are
// not): 1.bat runs in the package directory and would read it from there.
vesk::Status checkTarget(const std::string &target, const std::string &packageDirectory);

// After the batch ran: every file the batch was to leave in the target (each
// regular file of the package but its own files) is there with the package's
// bytes. The failure names the first file, in name order, that did not arrive
// and why; a cancel is Cancelled.
vesk::Status checkInstalled(const std::string &packageDirectory, const std::string &target, vesk::Progress &progress);

// The names the install will leave or replace in the target: every regular
// file of the package but its own files, 1.bat, and those of its own files the
// target already has (the batch copies and then deletes them).
std::vector<std::string> filesTheInstallTouches(const std::string &packageDirectory, const std::string &target);

// Writes 1.bat into the package directory; the result names the file and the
// reason when it cannot.
vesk::Status writeBatchFile(const std::string &batchFile, const std::string &target);

// Carries out a 1.bat of the two kinds of line above without any shell: the
// paths are read as the command interpreter reads them (quotes dropped,
// "%%" as "%", "%NAME%" as the variable of the environment) and then taken
// literally. "copy *.* T" copies every regular file of
// `workingDirectory` into T, replacing files of the same name; "del P"
// removes the file P when it is there. Other lines are skipped.
vesk::Status runBatchFile(const std::string &batchFile, const std::string &workingDirectory);

} // namespace vpak
