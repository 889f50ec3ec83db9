#include "XMLNode.h"

#include <charconv>
#include <cstdio>

namespace {

char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

// Only ASCII letters fold: names in other scripts must match exactly.
bool EqualsIgnoringAsciiCase(const char* a, const char* b)
{
    if (!a || !b)
        return false;
    for (; *a && *b; ++a, ++b) {
        if (AsciiLower(*a) != AsciiLower(*b))
            return false;
    }
    return *a == *b;
}

}  // namespace

XMLNode XMLNode::FindChild(const char* name) const
{
    for (pugi::xml_node child = m_node.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_element && EqualsIgnoringAsciiCase(child.name(), name))
            return XMLNode(child);
    }
    return XMLNode();
}

XMLNode XMLNode::AppendChild(const char* name)
{
    if (!m_node || !name)
        return XMLNode();
    pugi::xml_node child = m_node.append_child(pugi::node_element);
    if (child)
        child.set_name(name);
    return XMLNode(child);
}

pugi::xml_attribute XMLNode::FindAttribute(const char* name) const
{
    for (pugi::xml_attribute attr = m_node.first_attribute(); attr; attr = attr.next_attribute()) {
        if (EqualsIgnoringAsciiCase(attr.name(), name))
            return attr;
    }
    return pugi::xml_attribute();
}

const char* XMLNode::GetAttribute(const char* name) const
{
    pugi::xml_attribute attr = FindAttribute(name);
    return attr ? attr.value() : nullptr;
}

bool XMLNode::SetAttributeText(const char* name, const char* text)
{
    if (!m_node || !name)
        return true;
    pugi::xml_attribute attr = FindAttribute(name);
    if (!attr && m_node.type() == pugi::node_element)
        attr = m_node.append_attribute(name);
    if (attr)
        attr.set_value(text);
    return true;
}

bool XMLNode::SetAttribute(const char* name, std::int64_t value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%lld", static_cast<long long>(value));
    return SetAttributeText(name, text);
}

bool XMLNode::SetAttribute(const char* name, float value)
{
    // Same text as printf's "%f", but always with a decimal point: the program runs
    // under the user's locale, and a comma would not read back elsewhere. The largest
    // float prints 39 integer digits plus sign, point and six decimals; 64 bytes keep
    // every value whole instead of cutting it at 15 characters.
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text - 1, static_cast<double>(value),
                                      std::chars_format::fixed, 6);
    *result.ptr = '\0';
    return SetAttributeText(name, text);
}
