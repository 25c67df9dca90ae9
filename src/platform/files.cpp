#include "platform/files.h"

#include "platform/machine.h"

namespace mk {

namespace fs = std::filesystem;

std::string toWindowsPath(const Machine& machine, const fs::path& real) {
    fs::path rel = real.lexically_normal().lexically_relative(machine.root());
    std::string out;
    bool first = true;
    for (const auto& part : rel) {
        std::string p = part.string();
        if (p.empty() || p == ".") continue;
        if (first) {
            out = p + ":\\";
            first = false;
        } else {
            if (out.back() != '\\') out += '\\';
            out += p;
        }
    }
    return out.empty() ? "C:\\" : out;
}

std::string joinWindowsPath(std::string_view folder, std::string_view file) {
    std::string out(folder);
    if (out.empty() || out.back() != '\\') out += '\\';
    return out + std::string(file);
}

void copyFileInto(Machine& machine, std::string_view sourceFile, std::string_view destFolder) {
    fs::path src = machine.mapPath(sourceFile);
    fs::path folder = machine.mapPath(destFolder);
    std::error_code ec;
    if (!fs::is_regular_file(src, ec))
        throw RuntimeError(err::FileNotFound, "File not found: " + std::string(sourceFile));
    if (!fs::is_directory(folder, ec))
        throw RuntimeError(err::PathNotFound, "Path not found: " + std::string(destFolder));
    fs::path dest = folder / src.filename();
    // An existing file of that name with other letter case is the one replaced.
    {
        fs::path match = machine.mapPath(joinWindowsPath(destFolder, src.filename().string()));
        if (fs::exists(match, ec)) dest = match;
    }
    if (fs::exists(dest, ec) && fs::equivalent(src, dest, ec)) return;

    if (Database* target = machine.openDatabaseAt(dest)) {
        target->restoreFrom(src);
        return;
    }
    if (Database* open = machine.openDatabaseAt(src)) {
        open->backupTo(dest);
        return;
    }
    if (isDatabaseFile(src)) {
        copyDatabaseFile(src, dest);
        return;
    }
    fs::path tmp = temporaryCopyBeside(dest);
    fs::copy_file(src, tmp, fs::copy_options::overwrite_existing, ec);
    if (!ec) fs::rename(tmp, dest, ec);
    if (ec) {
        fs::remove(tmp, ec);
        throw RuntimeError(err::PermissionDenied,
                           "Cannot copy into " + std::string(destFolder) + ": " + ec.message());
    }
}

}  // namespace mk
