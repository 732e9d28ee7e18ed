// The store's tests on this platform's registry: a registry file in a fresh
// folder here, the system registry on Windows under a key of the test's own
// (HKEY_CURRENT_USER\Software\MetrovantaTests\<random>), removed afterwards.
#pragma once

#include "settings/registry.h"
#include "settings/settingsstore.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class StoreTest : public testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // A fresh connection to the registry the test works on.
    std::unique_ptr<settings::Registry> registry() const;

    // A store set up as start-up sets one up, on the test's key, collecting messages.
    settings::SettingsStore makeStore();

    // Stores raw bytes under a type in the store's key, as another program might.
    void seed(std::string_view name, std::uint32_t type, const std::string& bytes);

    bool keyExists(const std::string& path) const;

    static constexpr std::uint32_t kRoot = settings::kHkeyCurrentUser;
    static constexpr std::string_view kBranch = "Software";
    static constexpr std::string_view kBase = "MetrovantaTests";
    std::string m_program;           // unique per test
    std::string programPath() const; // Software\MetrovantaTests\<program>
    std::string keyPath() const;     // ...\<program>\Settings
    std::vector<std::pair<std::string, std::string>> messages;
#ifndef _WIN32
    std::filesystem::path file() const
    {
        return m_folder / "registry.reg";
    }
    const std::filesystem::path& folder() const
    {
        return m_folder;
    }
#endif

private:
    std::filesystem::path m_folder; // the registry file's folder where there is no registry
};
