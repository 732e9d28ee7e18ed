// A unit's description. One read from a Windows-1251 file stays in the file's bytes until it is
// first asked for: start-up shows one description of thousands, and decoding them all was most
// of its reading.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

namespace unitdb
{

class DeferredText
{
public:
    DeferredText() = default;
    DeferredText(std::string utf8) : m_text(std::move(utf8)) {}
    DeferredText(const char* utf8) : m_text(utf8) {}
    // `size` Windows-1251 bytes of `file` from `offset`, given a final period when decoded.
    DeferredText(std::shared_ptr<const std::string> file, std::size_t offset, std::size_t size);

    // The UTF-8 text; decoded on the first call. Not for first calls from several threads.
    const std::string& text() const;
    bool empty() const { return m_file ? m_size == 0 : m_text.empty(); }

    bool operator==(const DeferredText& other) const { return text() == other.text(); }
    bool operator==(const std::string& other) const { return text() == other; }
    bool operator==(const char* other) const { return text() == other; }
    friend std::ostream& operator<<(std::ostream& out, const DeferredText& t)
    {
        return out << t.text();
    }

private:
    mutable std::shared_ptr<const std::string> m_file; // held while undecoded
    mutable std::string m_text;
    std::uint32_t m_offset = 0; // Base.dat is limited far below 4 GiB
    std::uint32_t m_size = 0;
};

// A description as the file keeps it, ended with a period as the lists have always shown it.
std::string withFinalPeriod(std::string text);

} // namespace unitdb
