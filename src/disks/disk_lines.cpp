#include "disks/disk_lines.h"

#include "extern/quote.h"

namespace kestrel {

std::vector<std::string> refreshLines(const std::string& exeDir) {
    return {
        commandLine({Arg::literal("echo - DRIVES >"), Arg::word(exeDir + "/drives.txt")}),
        commandLine({Arg::literal("lsblk -io KNAME,TYPE,RM,VENDOR,SIZE,MODEL,MOUNTPOINT,TRAN,STATE >>"),
                     Arg::word(exeDir + "/drives.txt")}),
        commandLine({Arg::literal("df -h >"), Arg::word(exeDir + "/free.txt")}),
    };
}

std::vector<std::string> mountLines(const std::string& name) {
    return {
        commandLine({Arg::literal("mkdir"), Arg::word("/mnt/" + name)}),
        commandLine({Arg::literal("mount"), Arg::word("/dev/" + name), Arg::word("/mnt/" + name)}),
    };
}

std::vector<std::string> unmountLines(const std::string& name) {
    return {
        commandLine({Arg::literal("umount -l"), Arg::word("/mnt/" + name)}),
        unmountShown(name),
    };
}

std::string unmountShown(const std::string& name) {
    return commandLine({Arg::literal("umount -l"), Arg::word("/dev/" + name)});
}

}  // namespace kestrel
