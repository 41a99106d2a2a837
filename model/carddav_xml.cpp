#include "model/carddav_xml.h"

#include <cstdlib>
#include <cstring>

#include <pugixml.hpp>

namespace carddav {

namespace {

const char* LocalName(const pugi::xml_node& node) {
  const char* name = node.name();
  const char* colon = std::strrchr(name, ':');
  return colon ? colon + 1 : name;
}

bool Is(const pugi::xml_node& node, const char* local) {
  return node.type() == pugi::node_element && std::strcmp(LocalName(node), local) == 0;
}

pugi::xml_node Child(const pugi::xml_node& node, const char* local) {
  for (pugi::xml_node child : node.children())
    if (Is(child, local)) return child;
  return {};
}

std::string Trimmed(const char* text) {
  std::string value(text);
  const std::size_t start = value.find_first_not_of(" \t\r\n");
  if (start == std::string::npos) return {};
  const std::size_t end = value.find_last_not_of(" \t\r\n");
  return value.substr(start, end - start + 1);
}

// "HTTP/1.1 404 Not Found" -> 404
int StatusOf(const pugi::xml_node& node) {
  const std::string text = Trimmed(node.child_value());
  const std::size_t space = text.find(' ');
  if (space == std::string::npos) return 0;
  return std::atoi(text.c_str() + space + 1);
}

std::string HrefIn(const pugi::xml_node& node) { return Trimmed(Child(node, "href").child_value()); }

void ReadProp(const pugi::xml_node& prop, DavResponse& response) {
  for (pugi::xml_node item : prop.children()) {
    if (Is(item, "resourcetype")) {
      response.addressBook = static_cast<bool>(Child(item, "addressbook"));
      response.collection = static_cast<bool>(Child(item, "collection"));
    } else if (Is(item, "displayname")) {
      response.displayName = Trimmed(item.child_value());
    } else if (Is(item, "getetag")) {
      response.etag = Trimmed(item.child_value());
    } else if (Is(item, "address-data")) {
      // The card as it stands: its line ends matter to no one, its spaces do.
      response.addressData = item.text().get();
    } else if (Is(item, "current-user-principal")) {
      response.currentUserPrincipal = HrefIn(item);
    } else if (Is(item, "addressbook-home-set")) {
      response.addressBookHome = HrefIn(item);
    } else if (Is(item, "supported-address-data")) {
      // Some servers name the element after its attribute, content-type.
      for (pugi::xml_node type : item.children())
        if ((Is(type, "address-data-type") || Is(type, "content-type")) && response.addressDataVersions.size() < 8)
          response.addressDataVersions.push_back(type.attribute("version").value());
    } else if (Is(item, "supported-report-set")) {
      // The report's name inside <report>, or, as some servers write it, without.
      for (pugi::xml_node supported : item.children()) {
        const pugi::xml_node report = Child(supported, "report");
        if (Child(report ? report : supported, "sync-collection")) response.syncCollection = true;
      }
    }
  }
}

}  // namespace

bool ParseMultistatus(std::string_view xml, Multistatus& out) {
  out = Multistatus{};
  if (xml.size() > kMaxXmlBytes) return false;
  pugi::xml_document document;
  const pugi::xml_parse_result parsed = document.load_buffer(xml.data(), xml.size(), pugi::parse_default);
  if (!parsed) return false;
  const pugi::xml_node root = document.document_element();
  if (!Is(root, "multistatus")) return false;
  for (pugi::xml_node node : root.children()) {
    if (Is(node, "sync-token")) {
      out.syncToken = Trimmed(node.child_value());
      continue;
    }
    if (!Is(node, "response")) continue;
    if (out.responses.size() >= kMaxResponses) return false;
    DavResponse response;
    response.href = HrefIn(node);
    if (response.href.empty()) continue;
    if (const pugi::xml_node status = Child(node, "status")) response.status = StatusOf(status);
    for (pugi::xml_node propstat : node.children()) {
      if (!Is(propstat, "propstat")) continue;
      const int status = StatusOf(Child(propstat, "status"));
      if (response.status == 0) response.status = status;
      if (status < 200 || status >= 300) continue;
      response.found = true;
      response.status = status;
      ReadProp(Child(propstat, "prop"), response);
    }
    out.responses.push_back(std::move(response));
  }
  return true;
}

bool ErrorNames(std::string_view xml, std::vector<std::string>& names) {
  names.clear();
  if (xml.size() > kMaxXmlBytes) return false;
  pugi::xml_document document;
  if (!document.load_buffer(xml.data(), xml.size())) return false;
  const pugi::xml_node root = document.document_element();
  if (!Is(root, "error")) return false;
  for (pugi::xml_node child : root.children())
    if (child.type() == pugi::node_element && names.size() < 16) names.emplace_back(LocalName(child));
  return true;
}

std::string XmlEscaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

}  // namespace carddav
