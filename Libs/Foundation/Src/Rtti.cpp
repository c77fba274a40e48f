#include "Tovrane/Rtti.h"

namespace Tovrane
{
Rtti::Rtti(const std::string& name, const Rtti* base) : name(name), base(base) {}

bool Rtti::isDerived(const Rtti& other) const
{
    for (const Rtti* record = this; record; record = record->base)
        if (record == &other)
            return true;
    return false;
}
}
