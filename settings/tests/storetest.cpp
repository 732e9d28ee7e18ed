#include "storetest.h"

#include <random>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include "settings/registry_file.h"
#endif

using namespace settings;

void StoreTest::SetUp()
{
    std::random_device random;
    m_program = "Run" + std::to_string(random()) + std::to_string(random());
#ifndef _WIN32
    m_folder = std::filesystem::path(testing::TempDir()) / ("mv_store_" + m_program);
    std::filesystem::remove_all(m_folder);
#endif
}

void StoreTest::TearDown()
{
#ifdef _WIN32
    const std::string path = programPath();
    RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str());
    // Goes only once no other run holds a key below it.
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\MetrovantaTests");
#else
    std::filesystem::remove_all(m_folder);
#endif
}

std::unique_ptr<Registry> StoreTest::registry() const
{
#ifdef _WIN32
    return makeSystemRegistry();
#else
    return std::make_unique<FileRegistry>(m_folder / "registry.reg");
#endif
}

SettingsStore StoreTest::makeStore()
{
    SettingsStore store(registry(), [this](std::string_view title, std::string_view text) {
        messages.emplace_back(title, text);
    });
    store.setRootKey(kRoot);
    store.setMainBranch(std::string(kBranch));
    store.setRegBase(std::string(kBase));
    store.setProgram(m_program);
    store.setSection("Settings");
    return store;
}

void StoreTest::seed(std::string_view name, std::uint32_t type, const std::string& bytes)
{
    const auto reg = registry();
    RegKey key = 0;
    ASSERT_TRUE(reg->createKey(kRoot, keyPath(), 0, kKeyAccessAll, key, nullptr).ok());
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    EXPECT_TRUE(reg->setValue(key, name, type, {data, bytes.size()}).ok()) << name;
    EXPECT_TRUE(reg->closeKey(key).ok());
    EXPECT_TRUE(reg->flush().ok());
}

bool StoreTest::keyExists(const std::string& path) const
{
    const auto reg = registry();
    RegKey key = 0;
    if (!reg->openKey(kRoot, path, 0, kKeyAccessAll, key).ok())
        return false;
    EXPECT_TRUE(reg->closeKey(key).ok());
    return true;
}

std::string StoreTest::programPath() const
{
    return std::string(kBranch) + "\\" + std::string(kBase) + "\\" + m_program;
}

std::string StoreTest::keyPath() const
{
    return programPath() + "\\Settings";
}
