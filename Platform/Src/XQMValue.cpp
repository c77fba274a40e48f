#include "XQMValue.h"

#include <json/value.h>

namespace XQM
{
Value::Value(std::shared_ptr<const Json::Value> n) : node(std::move(n)) {}

Value Value::operator[](const char* key) const
{
    if (!node || !key || !node->isObject())
        return Value();
    const Json::Value* member = node->find(key, key + std::char_traits<char>::length(key));
    if (!member)
        return Value();
    return Value(std::shared_ptr<const Json::Value>(node, member));
}

Value Value::operator[](int index) const
{
    if (!node || !node->isArray() || index < 0 || static_cast<Json::ArrayIndex>(index) >= node->size())
        return Value();
    const Json::Value& element = (*node)[static_cast<Json::ArrayIndex>(index)];
    return Value(std::shared_ptr<const Json::Value>(node, &element));
}

bool Value::isNull() const { return !node || node->isNull(); }

bool Value::isString() const { return node && node->isString(); }

bool Value::isInt() const { return node && node->isInt(); }

bool Value::isBool() const { return node && node->isBool(); }

bool Value::isNumber() const { return node && node->isNumeric(); }

bool Value::isArray() const { return node && node->isArray(); }

bool Value::isObject() const { return node && node->isObject(); }

std::string Value::asString() const { return isString() ? node->asString() : std::string(); }

int Value::asInt() const { return isInt() ? node->asInt() : 0; }

bool Value::asBool() const { return isBool() && node->asBool(); }

double Value::asDouble() const { return isNumber() ? node->asDouble() : 0.0; }

int Value::size() const
{
    if (!isArray() || node->size() > static_cast<Json::ArrayIndex>(0x7fffffff))
        return 0;
    return static_cast<int>(node->size());
}
}
