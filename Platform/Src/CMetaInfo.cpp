#include "CMetaInfo.h"
#include "EscapeControls.h"
#include "RegularFile.h"

#include <cerrno>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>

namespace
{
std::string trimmed(const std::string& text)
{
    const std::string::size_type first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return std::string();
    const std::string::size_type last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

bool parseNumber(const std::string& text, unsigned long& value)
{
    if (text.empty() || text[0] == '-' || text[0] == '+')
        return false;
    errno = 0;
    char* end = nullptr;
    const unsigned long parsed = std::strtoul(text.c_str(), &end, 0);
    if (errno != 0 || end == text.c_str() || *end != '\0')
        return false;
    value = parsed;
    return true;
}
}

namespace XQM
{
const char* const CMetaInfo::FileName = "meta_info.txt";

CMetaInfo::CMetaInfo(const Glib::ustring& titlePath)
    : productId(0), partNumber("unknown"), packageVersion("0.0.0")
{
    // Without a title folder there is nothing to read (and no relative file to pick up by accident).
    if (titlePath.empty())
        return;
    const std::string path = titlePath.raw() + FileName;
    // A pipe or a device under its name is not waited on.
    std::string text;
    if (!readRegularFile(path.c_str(), text, 1 << 20))
        return;
    std::istringstream in(text);

    std::string line;
    int number = 0;
    while (std::getline(in, line))
    {
        ++number;
        const std::string text = trimmed(line);
        if (text.empty() || text[0] == '#')
            continue;
        const std::string::size_type equals = text.find('=');
        const std::string key = equals == std::string::npos ? text : trimmed(text.substr(0, equals));
        const std::string value = equals == std::string::npos ? std::string() : trimmed(text.substr(equals + 1));
        unsigned long id = 0;
        if (equals != std::string::npos && key == "ProductId" && parseNumber(value, id))
            productId = id;
        else if (equals != std::string::npos && key == "PartNumber")
            partNumber = value;
        else if (equals != std::string::npos && key == "PackageVersion")
            packageVersion = value;
        else
            std::cout << "Ignoring line " << number << " of " << Tovrane::escapeControls(path) << ": "
                      << Tovrane::escapeControls(text) << std::endl;
    }
}
}
