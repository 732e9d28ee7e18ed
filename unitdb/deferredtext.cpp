#include "unitdb/deferredtext.h"

#include "unitdb/cp1251.h"

namespace unitdb
{

DeferredText::DeferredText(std::shared_ptr<const std::string> file, std::size_t offset,
                           std::size_t size)
    : m_file(std::move(file)), m_offset(static_cast<std::uint32_t>(offset)),
      m_size(static_cast<std::uint32_t>(size))
{
}

const std::string& DeferredText::text() const
{
    if (m_file) {
        m_text = withFinalPeriod(decodeCp1251(std::string_view(*m_file).substr(m_offset, m_size)));
        m_file.reset();
    }
    return m_text;
}

std::string withFinalPeriod(std::string text)
{
    if (!text.empty() && text.back() != '.')
        text.push_back('.');
    return text;
}

} // namespace unitdb
