#pragma once
// The shell lines of the disks screen. Every device name and report path is
// one quoted word, so it reaches mkdir, mount, umount and the redirection as
// exactly one argument; ordinary names give the plain lines a person reads.
#include <string>
#include <vector>

namespace kestrel {

// Writes the marker and the lsblk report to exeDir/drives.txt, and the
// df -h report to exeDir/free.txt.
std::vector<std::string> refreshLines(const std::string& exeDir);
// mkdir /mnt/NAME, then mount /dev/NAME /mnt/NAME.
std::vector<std::string> mountLines(const std::string& name);
// umount -l /mnt/NAME first, then umount -l /dev/NAME.
std::vector<std::string> unmountLines(const std::string& name);
// The command shown in the unmount question: the second unmount line.
std::string unmountShown(const std::string& name);

}  // namespace kestrel
