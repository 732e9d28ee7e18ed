// Name resolution for the program's own files: letter case on disk, and links followed so
// that a second name for Base.dat is still recognised as Base.dat.
#include "convmodel/ownfiles.h"

#include <algorithm>

namespace fs = std::filesystem;

namespace convmodel
{

namespace
{

bool sameLetters(std::string_view a, std::string_view b)
{
    auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    return std::ranges::equal(a, b, [&](char x, char y) {
        return lower(static_cast<unsigned char>(x)) == lower(static_cast<unsigned char>(y));
    });
}

// Follows the links of the last component too, even when the target does not exist yet.
fs::path resolved(fs::path name)
{
    std::error_code ec;
    name = fs::absolute(name, ec);
    for (int hops = 0; hops < 40 && fs::is_symlink(name, ec); ++hops) {
        const fs::path target = fs::read_symlink(name, ec);
        if (ec)
            break;
        name = target.is_absolute() ? target : name.parent_path() / target;
    }
    const fs::path canonical = fs::weakly_canonical(name, ec);
    return ec ? name.lexically_normal() : canonical;
}

} // namespace

fs::path findFile(const fs::path& folder, std::string_view name)
{
    std::error_code ec;
    if (fs::is_regular_file(folder / name, ec))
        return folder / name;
    std::vector<fs::path> found;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string file = it->path().filename().string();
        if (!file.starts_with('.') && sameLetters(file, name) && it->is_regular_file(ec))
            found.push_back(it->path());
    }
    std::ranges::sort(found);
    return found.empty() ? fs::path() : found.front();
}

fs::path sameFile(const fs::path& name, const std::vector<fs::path>& own)
{
    if (name.empty())
        return {};
    const fs::path target = resolved(name);
    for (const fs::path& file : own) {
        std::error_code ec;
        if (fs::equivalent(name, file, ec))
            return file;
        const fs::path ownTarget = resolved(file);
        if (target.parent_path() == ownTarget.parent_path() &&
            sameLetters(target.filename().string(), ownTarget.filename().string()))
            return file;
    }
    return {};
}

} // namespace convmodel
