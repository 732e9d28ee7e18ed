// Name resolution for the program's own files: letter case on disk, and links followed so
// that a second name for Base.dat is still recognised as Base.dat.
#include "convwin/ownfiles.h"

#include <QDir>

namespace fs = std::filesystem;

namespace ownfiles
{

QString findFile(const QString& folder, const QString& pattern)
{
    const QStringList names = QDir(folder).entryList(QStringList{pattern}, QDir::Files, QDir::Name);
    if (names.contains(pattern))
        return pattern;
    return names.isEmpty() ? QString() : names.first();
}

namespace
{

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

bool sameName(const fs::path& a, const fs::path& b)
{
    return QString::fromStdString(a.filename().string())
               .compare(QString::fromStdString(b.filename().string()), Qt::CaseInsensitive) == 0;
}

} // namespace

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
        if (target.parent_path() == ownTarget.parent_path() && sameName(target, ownTarget))
            return file;
    }
    return {};
}

} // namespace ownfiles
