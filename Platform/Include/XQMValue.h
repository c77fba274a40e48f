#ifndef PLATFORM_XQMVALUE_H
#define PLATFORM_XQMVALUE_H

#include <memory>
#include <string>

namespace Json
{
class Value;
}

namespace XQM
{
// One value of a JSON document read by CJSonFile. Reading never fails: a
// missing key, an index out of range or a value of another type gives the
// null value, which reads as "", 0, false or 0.0 and has no members.
class Value
{
public:
    Value() = default;

    Value operator[](const char* key) const;
    Value operator[](int index) const;

    bool isNull() const;
    bool isString() const;
    bool isInt() const;
    bool isBool() const;
    // Any JSON number, whole or not.
    bool isNumber() const;
    bool isArray() const;
    bool isObject() const;

    std::string asString() const;
    int asInt() const;
    // A JSON boolean; anything else is false.
    bool asBool() const;
    // Any JSON number; anything else is 0.0.
    double asDouble() const;
    // Number of elements of an array, 0 for anything else.
    int size() const;

private:
    friend class CJSonFile;
    explicit Value(std::shared_ptr<const Json::Value> node);

    // Points into the document, which it keeps alive.
    std::shared_ptr<const Json::Value> node;
};
}

#endif
