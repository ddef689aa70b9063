#pragma once

#include <cstddef>
#include <iterator>
#include <string_view>

namespace kn4 {

// The lines of a text as the suite's files hold them (CR LF, or a bare LF):
// each line without its line feed and the carriage return before it; a
// last line without a line feed counts too, an empty text has no line.
//
//     for (std::string_view line : TextLines(text)) ...
class TextLines
{
public:
    explicit TextLines(std::string_view text)
        : m_text(text)
    {
    }

    class iterator
    {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = std::string_view;
        using difference_type = std::ptrdiff_t;
        using pointer = const std::string_view *;
        using reference = const std::string_view &;

        iterator() = default;
        iterator(std::string_view text, std::size_t start)
            : m_text(text)
            , m_start(start)
        {
            find();
        }

        reference operator*() const { return m_line; }
        pointer operator->() const { return &m_line; }
        iterator &operator++()
        {
            m_start = m_next;
            find();
            return *this;
        }
        iterator operator++(int)
        {
            iterator before = *this;
            ++*this;
            return before;
        }
        // Where the line after this one begins (the text's size after the
        // last line).
        std::size_t next() const { return m_next; }
        bool operator==(const iterator &other) const { return m_start == other.m_start; }

    private:
        void find()
        {
            if (m_start >= m_text.size()) {
                m_start = m_next = m_text.size();
                m_line = {};
                return;
            }
            std::size_t end = m_text.find('\n', m_start);
            m_next = end == std::string_view::npos ? m_text.size() : end + 1;
            if (end == std::string_view::npos)
                end = m_text.size();
            m_line = m_text.substr(m_start, end - m_start);
            if (!m_line.empty() && m_line.back() == '\r')
                m_line.remove_suffix(1);
        }

        std::string_view m_text;
        std::size_t m_start = 0;
        std::size_t m_next = 0;
        std::string_view m_line;
    };

    iterator begin() const { return iterator(m_text, 0); }
    iterator end() const { return iterator(m_text, m_text.size()); }

private:
    std::string_view m_text;
};

} // namespace kn4
