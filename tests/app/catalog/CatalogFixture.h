// A program folder and a download root of the tests' own: the two list
// files, the settings file and the download folders, pointed to by the
// module state for the time of a test.
#pragma once

#include <string>

#include "app/catalog/LocalLists.h"
#include "app/startup/CorvaneModule.h"
#include "tests/support/TempFolder.h"

#include <tinyxml.h>

// An entry as the lists hold it, read back with TinyXML (texts in UTF-8).
struct ListEntry {
    std::string id;
    std::string name;
    std::string jsons;
    std::string file;
};

inline const char kEmptyList[] = "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n<list />\n";

class CCatalogFolders {
public:
    CCatalogFolders()
    {
        _Module.m_strAppDir = m_temp / L"program\\";
        _Module.m_strDownloadDir = m_temp / L"down\\";
        MakeFolderFor(DataListPath(1));
        WriteFileBytes(DataListPath(1), kEmptyList);
        WriteFileBytes(DataListPath(2), kEmptyList);
        MakeFolderFor(_Module.m_strAppDir + L"Config\\common.ini");
        for (const wchar_t* folder : {L"Ravonyx\\download\\x", L"Ravonyx\\ico\\x", L"Ravonyx\\desktop\\x"})
            MakeFolderFor(_Module.m_strDownloadDir + folder);
    }

    CString Down(const wchar_t* relative) const { return _Module.m_strDownloadDir + relative; }

    // The list's entries in document order.
    static std::vector<ListEntry> Entries(int kind)
    {
        std::vector<ListEntry> entries;
        TiXmlDocument document;
        const std::string bytes = ReadFileBytes(DataListPath(kind));
        document.Parse(bytes.c_str(), nullptr, TIXML_ENCODING_UTF8);
        const TiXmlElement* root = document.RootElement();
        for (const TiXmlElement* item = root ? root->FirstChildElement() : nullptr; item;
             item = item->NextSiblingElement()) {
            ListEntry entry;
            entry.id = item->Attribute("id") ? item->Attribute("id") : "";
            entry.name = item->Attribute("name") ? item->Attribute("name") : "";
            const TiXmlElement* jsons = item->FirstChildElement("jsons");
            const TiXmlElement* file = item->FirstChildElement("file");
            entry.jsons = jsons && jsons->GetText() ? jsons->GetText() : "";
            entry.file = file && file->GetText() ? file->GetText() : "";
            entries.push_back(entry);
        }
        return entries;
    }

    // The jsons of the first entry with this id; "" when none.
    static std::string Jsons(int kind, const std::string& id)
    {
        for (const ListEntry& entry : Entries(kind))
            if (entry.id == id)
                return entry.jsons;
        return std::string();
    }

    // Writes a list of entries (id, status digit or "" for no status key).
    static void WriteList(int kind, const std::vector<std::pair<std::string, std::string>>& entries)
    {
        std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n<list>";
        for (const auto& entry : entries) {
            const std::string status = entry.second.empty() ? "" : "\"status\":" + entry.second + ",";
            xml += "<item id=\"" + entry.first + "\" name=\"n" + entry.first + "\"><jsons>{\"id\":\"" +
                   entry.first + "\"," + status + "\"progress\":\"0\"}</jsons><file>Ravonyx\\download\\" +
                   entry.first + ".zip</file></item>";
        }
        xml += "</list>\n";
        WriteFileBytes(DataListPath(kind), xml);
    }

    // The status digit stored in an entry's jsons ("" when none).
    static std::string Status(int kind, const std::string& id)
    {
        const std::string jsons = Jsons(kind, id);
        const size_t at = jsons.find("\"status\":");
        return at == std::string::npos ? std::string() : jsons.substr(at + 9, 1);
    }

private:
    CTempFolder m_temp;
};
