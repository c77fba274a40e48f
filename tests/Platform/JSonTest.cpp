#include "support/DataRoot.h"

#include "CJSonFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace
{
class JSonFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        path = TestSupport::freshFolder("json") + "file.json";
    }

    void write(const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

    XQM::Value load(const std::string& text, bool expectLoaded)
    {
        write(text);
        XQM::CJSonFile file(path, 0);
        EXPECT_EQ(expectLoaded, file.Load()) << text.substr(0, 80);
        EXPECT_EQ(expectLoaded, file.GetError().empty());
        return file.GetRoot();
    }

    std::string path;
};

void expectNull(const XQM::Value& value)
{
    EXPECT_TRUE(value.isNull());
    EXPECT_EQ("", value.asString());
    EXPECT_EQ(0, value.asInt());
    EXPECT_FALSE(value.asBool());
    EXPECT_EQ(0.0, value.asDouble());
    EXPECT_FALSE(value.isArray());
    EXPECT_EQ(0, value.size());
    EXPECT_TRUE(value["type"].isNull());
    EXPECT_TRUE(value[0].isNull());
}
}

TEST_F(JSonFile, ReadsValuesAndGivesEmptyOrZeroForWrongTypes)
{
    XQM::Value root = load(R"({"type": "Frandel", "frame": 4, "list": ["a/", ["inner"]], "book": {"pageCount": 12},
                               "text": 5, "number": "4", "half": 4.5, "big": 3000000000, "whole": 7.0,
                               "flag": true, "object": {"0": "x"}, "nothing": null})",
                           true);
    EXPECT_TRUE(root.isObject());
    EXPECT_EQ("Frandel", root["type"].asString());
    EXPECT_EQ(4, root["frame"].asInt());
    EXPECT_EQ(12, root["book"]["pageCount"].asInt());
    const XQM::Value list = root["list"];
    ASSERT_TRUE(list.isArray());
    EXPECT_EQ(2, list.size());
    EXPECT_EQ("a/", list[0].asString());
    EXPECT_EQ("inner", list[1][0].asString());
    for (int outside : {2, -1})
        expectNull(list[outside]);
    expectNull(list["type"]); // an array has no keys
    EXPECT_EQ(2, load(R"(["a", 2])", true)[1].asInt()) << "an array at the root";

    EXPECT_EQ("", root["text"].asString());
    EXPECT_EQ(7, root["whole"].asInt());
    for (const char* key : {"number", "half", "big", "flag"})
        EXPECT_EQ(0, root[key].asInt()) << key;
    // Flags only from booleans; doubles from any number.
    EXPECT_TRUE(root["flag"].asBool());
    EXPECT_TRUE(root["flag"].isBool());
    EXPECT_TRUE(root["half"].isNumber());
    EXPECT_FALSE(root["number"].isNumber());
    for (const char* key : {"frame", "type", "object", "whole"})
        EXPECT_FALSE(root[key].asBool()) << key;
    EXPECT_EQ(4.5, root["half"].asDouble());
    EXPECT_EQ(3000000000.0, root["big"].asDouble());
    EXPECT_EQ(4.0, root["frame"].asDouble());
    for (const char* key : {"number", "flag", "list"})
        EXPECT_EQ(0.0, root[key].asDouble()) << key;
    EXPECT_FALSE(root["object"].isArray());
    EXPECT_EQ(0, root["object"].size());
    EXPECT_TRUE(root["object"][0].isNull());
    expectNull(root["nothing"]);
    expectNull(root["absent"]["deeper"][3]);
    expectNull(root[nullptr]);
}

TEST_F(JSonFile, MissingOrBrokenFilesGiveTheNullValue)
{
    XQM::CJSonFile missing(path + ".none", 0);
    EXPECT_FALSE(missing.Load());
    EXPECT_FALSE(missing.GetError().empty());
    expectNull(missing.GetRoot());
    for (const std::string& text : {std::string(), std::string("{\"type\": \"Frame\", \"frame\": "),
                                    std::string("{\"type\": \"Frame\"} trailing"), std::string("{\"type\"\0: 1}", 12),
                                    std::string(100000, '['), // nesting far beyond any real file is refused
                                    std::string(XQM::CJSonFile::maxFileSize + 1, ' ') + "{}"})
        expectNull(load(text, false));

    // A failed load forgets the earlier document.
    write(R"({"type": "Task"})");
    XQM::CJSonFile file(path, 0);
    ASSERT_TRUE(file.Load());
    write("{broken");
    EXPECT_FALSE(file.Load());
    expectNull(file.GetRoot());
}

TEST_F(JSonFile, ValuesKeepTheirDocumentAlive)
{
    XQM::Value inner;
    {
        write(R"({"a": {"b": ["kept"]}})");
        XQM::CJSonFile file(path, 0);
        ASSERT_TRUE(file.Load());
        inner = file.GetRoot()["a"]["b"];
    }
    EXPECT_EQ("kept", inner[0].asString());
}

// Only regular files are read: a link is not followed, and a FIFO or a folder
// is refused at once instead of blocking (the child would be stopped by the
// alarm before the change).
using JSonFileDeathTest = JSonFile;
TEST_F(JSonFileDeathTest, OnlyRegularFilesAreRead)
{
    const std::string folder = std::filesystem::path(path).parent_path().string();
    write(R"({"type": "Task"})");
    std::filesystem::create_symlink(path, folder + "/link.json");
    ASSERT_EQ(0, ::mkfifo((folder + "/fifo.json").c_str(), 0600));
    std::filesystem::create_directory(folder + "/folder.json");
    for (const char* name : {"link.json", "fifo.json", "folder.json"})
    {
        const std::string target = folder + "/" + name;
        EXPECT_EXIT(
            {
                ::alarm(5);
                XQM::CJSonFile file(target, 0);
                std::_Exit(!file.Load() && file.GetRoot().isNull() && !file.GetError().empty() ? 0 : 1);
            },
            testing::ExitedWithCode(0), "")
            << name;
    }
}
