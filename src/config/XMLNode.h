#pragma once
#include <cstdint>
#include <pugixml.hpp>

// One node of a parsed document, or none (empty). Does not own the node: it stays
// valid while the document lives and the node is not removed. Copied freely.
// Every name lookup ignores ASCII letter case and takes the first match in document
// order; the library's own lookups are case-sensitive, so this class walks the nodes.
// Not thread-safe: the settings document is used on the user-interface thread only.
class XMLNode {
public:
    XMLNode() = default;
    explicit XMLNode(pugi::xml_node node) : m_node(node) {}
    virtual ~XMLNode() {}
    XMLNode(const XMLNode&) = default;
    XMLNode& operator=(const XMLNode&) = default;

    bool IsEmpty() const { return !m_node; }
    // The element name; "" for the document node or an empty node.
    const char* GetName() const { return m_node.name(); }

    // The first direct child element named `name`; empty when there is none.
    XMLNode FindChild(const char* name) const;
    // A new child element `name` after the last child. Only the document node and
    // elements take children; otherwise the result is empty.
    XMLNode AppendChild(const char* name);

    // The value text of the first attribute named `name` ("" when it has no value);
    // null when there is no such attribute or this node is empty.
    const char* GetAttribute(const char* name) const;

    // Formats value ("%lld" for integers; six decimals for reals, written whole however
    // long) into the first attribute named `name`; when there is none and this node is
    // an element, appends an attribute with exactly that name. Nothing happens on an
    // empty node. Returns true.
    bool SetAttribute(const char* name, std::int64_t value);
    bool SetAttribute(const char* name, std::int32_t value) { return SetAttribute(name, std::int64_t(value)); }
    bool SetAttribute(const char* name, float value);

    pugi::xml_node GetNode() const { return m_node; }

private:
    bool SetAttributeText(const char* name, const char* text);
    pugi::xml_attribute FindAttribute(const char* name) const;

    pugi::xml_node m_node;
};
