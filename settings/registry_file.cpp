// The file-backed registry. A damaged or unreadable file reads as an empty
// registry; the next change replaces it, keeping the old bytes beside it.
#include "settings/registry_file.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <system_error>
#include <unistd.h>

namespace settings
{

namespace
{

bool holdsLineBreakOrNul(std::string_view s)
{
    return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

RegStatus ioFailure(const std::filesystem::path& file, int error)
{
    return {kErrorRegistryIoFailed, "Не удалось сохранить настройки в файле «" + file.string() +
                                        "»: " + std::generic_category().message(error)};
}

RegStatus unknownRoot()
{
    return {kErrorInvalidHandle, "Неизвестный корневой раздел реестра"};
}

RegStatus unwritableName()
{
    return {kErrorInvalidParameter, "Имя с переводом строки нельзя записать в файл настроек"};
}

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// So that the rename itself survives a power cut; a failure here changes nothing we can fix.
void syncFolder(const std::filesystem::path& folder)
{
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

std::filesystem::path registryFileFor(const char* xdgConfigHome, const char* home)
{
    std::filesystem::path base;
    if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/')
        base = xdgConfigHome;
    else if (home != nullptr && home[0] != '\0')
        base = std::filesystem::path(home) / ".config";
    else
        base = ".config";
    return base / "Quorvellant" / "Metrovanta" / "registry.reg";
}

std::filesystem::path defaultRegistryFile()
{
    return registryFileFor(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

std::unique_ptr<Registry> makeSystemRegistry()
{
    return std::make_unique<FileRegistry>();
}

FileRegistry::FileRegistry(std::filesystem::path file) : m_file(std::move(file)) {}

FileRegistry::Snapshot FileRegistry::load() const
{
    std::error_code ec;
    if (!std::filesystem::exists(m_file, ec) && !ec)
        return {};
    std::ifstream in(m_file, std::ios::binary);
    if (!in.is_open())
        return {RegDocument{}, true};
    std::ostringstream text;
    text << in.rdbuf(); // a file that cannot be read yields no text, which does not parse
    auto doc = parseRegText(text.str());
    if (!doc)
        return {RegDocument{}, true};
    return {std::move(*doc), false};
}

RegStatus FileRegistry::save(const Snapshot& snapshot) const
{
    const std::filesystem::path folder = m_file.parent_path();
    std::error_code ec;
    if (!folder.empty())
        std::filesystem::create_directories(folder, ec);
    if (ec)
        return ioFailure(m_file, ec.value());

    std::filesystem::path temp = m_file;
    temp += ".tmp";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return ioFailure(m_file, errno);
    const bool written = writeAll(fd, formatRegText(snapshot.doc)) && ::fsync(fd) == 0;
    const int writeError = errno;
    if (::close(fd) != 0 || !written) {
        const int error = written ? errno : writeError;
        ::unlink(temp.c_str());
        return ioFailure(m_file, error);
    }

    if (snapshot.damaged) {
        // Whatever the user had there may still be worth reading by hand.
        std::filesystem::path copy = m_file;
        copy += ".damaged";
        std::filesystem::copy_file(m_file, copy, std::filesystem::copy_options::overwrite_existing,
                                   ec);
    }
    if (::rename(temp.c_str(), m_file.c_str()) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        return ioFailure(m_file, error);
    }
    syncFolder(folder);
    return {};
}

RegKey FileRegistry::addHandle(std::uint32_t root, std::string_view path)
{
    const RegKey handle = m_nextHandle++;
    m_open.emplace(handle, OpenedKey{root, std::string(path)});
    return handle;
}

RegStatus FileRegistry::openKey(std::uint32_t root, std::string_view subKey,
                                std::uint32_t /*options*/, std::uint32_t /*access*/, RegKey& key)
{
    key = 0;
    if (rootName(root).empty())
        return unknownRoot();
    if (!load().doc.keyExists(root, subKey))
        return {kErrorFileNotFound, {}};
    key = addHandle(root, subKey);
    return {};
}

RegStatus FileRegistry::queryValue(RegKey key, std::string_view name, std::uint32_t* type,
                                   std::uint8_t* data, std::uint32_t* size)
{
    const auto open = m_open.find(key);
    if (open == m_open.end())
        return {kErrorInvalidHandle, {}};
    if (data != nullptr && size == nullptr)
        return {kErrorInvalidParameter, {}};
    Snapshot snapshot = load();
    RegKeyNode* node = snapshot.doc.findKey(open->second.root, open->second.path);
    const RegValue* value = node != nullptr ? findValue(*node, name) : nullptr;
    if (value == nullptr)
        return {kErrorFileNotFound, {}};

    if (type != nullptr)
        *type = value->type;
    const auto needed = static_cast<std::uint32_t>(value->data.size());
    if (data != nullptr) {
        if (*size < needed) {
            *size = needed;
            return {kErrorMoreData, {}};
        }
        if (needed > 0)
            std::memcpy(data, value->data.data(), needed);
    }
    if (size != nullptr)
        *size = needed;
    return {};
}

RegStatus FileRegistry::createKey(std::uint32_t root, std::string_view subKey,
                                  std::uint32_t /*options*/, std::uint32_t /*access*/, RegKey& key,
                                  std::uint32_t* disposition)
{
    key = 0;
    if (rootName(root).empty())
        return unknownRoot();
    if (holdsLineBreakOrNul(subKey))
        return unwritableName();
    Snapshot snapshot = load();
    const bool exists = snapshot.doc.keyExists(root, subKey);
    if (!exists) {
        snapshot.doc.addKey(root, subKey);
        if (RegStatus saved = save(snapshot); !saved.ok())
            return saved;
    }
    if (disposition != nullptr)
        *disposition = exists ? kOpenedExistingKey : kCreatedNewKey;
    key = addHandle(root, subKey);
    return {};
}

RegStatus FileRegistry::setValue(RegKey key, std::string_view name, std::uint32_t type,
                                 std::span<const std::uint8_t> data)
{
    const auto open = m_open.find(key);
    if (open == m_open.end())
        return {kErrorInvalidHandle, {}};
    if (holdsLineBreakOrNul(name))
        return unwritableName();
    Snapshot snapshot = load();
    RegKeyNode* node = snapshot.doc.findKey(open->second.root, open->second.path);
    if (node == nullptr)
        node = &snapshot.doc.addKey(open->second.root, open->second.path);
    RegValue* value = findValue(*node, name);
    if (value == nullptr)
        value = &node->values.emplace_back(RegValue{std::string(name), 0, {}});
    value->type = type;
    value->data.assign(data.begin(), data.end());
    return save(snapshot);
}

RegStatus FileRegistry::closeKey(RegKey key)
{
    return m_open.erase(key) == 1 ? RegStatus{} : RegStatus{kErrorInvalidHandle, {}};
}

} // namespace settings
