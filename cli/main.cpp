// metrovanta-cli: the converter's database and arithmetic from a terminal or a script.
#include "cli/commandline.h"
#include "convmodel/datafolder.h"
#include "settings/settingsstore.h"

#include <iostream>
#include <system_error>

namespace
{

// The installed program sits in bin/ beside share/metrovanta/Base.dat.
std::filesystem::path shippedBase(const char* argv0)
{
    std::error_code ec;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        self = std::filesystem::absolute(argv0, ec);
    return self.parent_path().parent_path() / "share" / "metrovanta" / "Base.dat";
}

} // namespace

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    const auto parsed = cli::parseArguments(args);
    if (const auto* usage = std::get_if<cli::UsageError>(&parsed)) {
        std::cerr << "metrovanta-cli: " << usage->message << "\nПодробнее: metrovanta-cli --help\n";
        return static_cast<int>(cli::Exit::Usage);
    }
    // A build tree has no share/ folder: the sources' Base.dat serves there.
    const cli::Places places{{convmodel::defaultDataFolder() / "Base.dat",
                              shippedBase(argc > 0 ? argv[0] : ""), MV_SOURCE_BASE},
                             settings::defaultSettingsFile()};
    return cli::run(std::get<cli::Request>(parsed), places, std::cin, std::cout, std::cerr);
}
