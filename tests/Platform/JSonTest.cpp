#include "CJSonFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace
{
class JSonFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char name[] = "/tmp/tovrane-json-XXXXXX";
        ASSERT_NE(nullptr, ::mkdtemp(name));
        folder = name;
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string write(const std::string& text)
    {
        std::string path = folder + "/file.json";
        std::FILE* file = std::fopen(path.c_str(), "wb");
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
        return path;
    }

    XQM::Value load(const std::string& text, bool expectLoaded)
    {
        XQM::CJSonFile file(write(text), 0);
        EXPECT_EQ(expectLoaded, file.Load()) << text.substr(0, 80);
        EXPECT_EQ(expectLoaded, file.GetError().empty());
        return file.GetRoot();
    }

    std::string folder;
};

void expectNull(const XQM::Value& value)
{
    EXPECT_TRUE(value.isNull());
    EXPECT_EQ("", value.asString());
    EXPECT_EQ(0, value.asInt());
    EXPECT_FALSE(value.isArray());
    EXPECT_EQ(0, value.size());
    EXPECT_TRUE(value["type"].isNull());
    EXPECT_TRUE(value[0].isNull());
}
}

TEST_F(JSonFile, ReadsValuesOfAnObject)
{
    XQM::Value root = load(R"({"type": "Frandel", "frame": 4, "subdirectories": ["a/", "b/"],
                               "book": {"pageCount": 12}})",
                           true);
    EXPECT_TRUE(root.isObject());
    EXPECT_EQ("Frandel", root["type"].asString());
    EXPECT_EQ(4, root["frame"].asInt());
    XQM::Value list = root["subdirectories"];
    ASSERT_TRUE(list.isArray());
    ASSERT_EQ(2, list.size());
    EXPECT_EQ("a/", list[0].asString());
    EXPECT_EQ("b/", list[1].asString());
    EXPECT_EQ(12, root["book"]["pageCount"].asInt());
}

TEST_F(JSonFile, MissingOrBrokenFilesGiveTheNullValue)
{
    XQM::CJSonFile missing(folder + "/none.json", 0);
    EXPECT_FALSE(missing.Load());
    EXPECT_FALSE(missing.GetError().empty());
    expectNull(missing.GetRoot());

    expectNull(load("", false));
    expectNull(load("{\"type\": \"Frame\", \"frame\": ", false));
    expectNull(load("{\"type\": \"Frame\"} trailing", false));
    expectNull(load(std::string("{\"type\"\0: 1}", 12), false));
    // Nesting far beyond any real file is refused, not followed down the stack.
    expectNull(load(std::string(100000, '['), false));
    expectNull(load(std::string(XQM::CJSonFile::maxFileSize + 1, ' ') + "{}", false));
}

TEST_F(JSonFile, AFailedLoadForgetsTheEarlierDocument)
{
    std::string path = write(R"({"type": "Task"})");
    XQM::CJSonFile file(path, 0);
    ASSERT_TRUE(file.Load());
    write("{broken");
    EXPECT_FALSE(file.Load());
    expectNull(file.GetRoot());
}

TEST_F(JSonFile, MissingKeysAndWrongTypesReadAsEmptyOrZero)
{
    XQM::Value root = load(R"({"type": 5, "frame": "4", "stamp": 4.5, "big": 3000000000,
                               "whole": 7.0, "flag": true, "list": {"0": "x"}, "nothing": null})",
                           true);
    EXPECT_EQ("", root["type"].asString());
    EXPECT_EQ(0, root["frame"].asInt());
    EXPECT_EQ(0, root["stamp"].asInt());
    EXPECT_EQ(0, root["big"].asInt());
    EXPECT_EQ(7, root["whole"].asInt());
    EXPECT_EQ(0, root["flag"].asInt());
    EXPECT_FALSE(root["list"].isArray());
    EXPECT_EQ(0, root["list"].size());
    EXPECT_TRUE(root["list"][0].isNull());
    expectNull(root["nothing"]);
    expectNull(root["absent"]);
    expectNull(root["absent"]["deeper"][3]);
    expectNull(root[nullptr]);
}

TEST_F(JSonFile, ArraysIndexOnlyInsideTheirLength)
{
    XQM::Value root = load(R"(["a", 2, ["inner"]])", true);
    ASSERT_TRUE(root.isArray());
    EXPECT_EQ(3, root.size());
    EXPECT_EQ("a", root[0].asString());
    EXPECT_EQ(2, root[1].asInt());
    EXPECT_EQ("inner", root[2][0].asString());
    expectNull(root[3]);
    expectNull(root[-1]);
    // An array has no keys.
    expectNull(root["type"]);
}

TEST_F(JSonFile, ValuesKeepTheirDocumentAlive)
{
    XQM::Value inner;
    {
        XQM::CJSonFile file(write(R"({"a": {"b": ["kept"]}})"), 0);
        ASSERT_TRUE(file.Load());
        inner = file.GetRoot()["a"]["b"];
    }
    EXPECT_EQ("kept", inner[0].asString());
}
