#pragma once

#include <QString>

// A real full disk for a test. The test function runs again, alone with its
// data row, in a child process of the same test program whose folder lies on
// a file system with no room left: a tiny tmpfs in a mount namespace of the
// child's own where the system lets it make one, otherwise an ordinary folder
// that a preloaded write() (tests/support/shim) turns full. A test reads:
//
//     if (FullDisk::folder().isEmpty()) {
//         QString said;
//         QVERIFY2(FullDisk::runChild(&said), qPrintable(said));
//         return;
//     }
//     ... put the old files in FullDisk::folder(), FullDisk::fill(), save ...
//
// NOCTAREL_FULL_DISK_WAY=shim takes the second way where the first would do.
namespace FullDisk {

// In the child: the folder on the full file system. Empty in the test's own run.
QString folder();
// Runs the current test function and data row in the child; false, with what
// the child printed, when it failed.
bool runChild(QString *output);
// In the child, once the old files are in place: no write into the folder
// succeeds after this.
void fill();

} // namespace FullDisk
