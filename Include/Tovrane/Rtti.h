#ifndef TOVRANE_RTTI_H
#define TOVRANE_RTTI_H

#include <string>

namespace Tovrane
{
// Static runtime-type record of one class: its dotted name and its base's record.
class Rtti
{
public:
    Rtti(const std::string& name, const Rtti* base);

    const std::string& getName() const { return name; }
    const Rtti* getBase() const { return base; }

    // True when `other` is this record or one of its ancestors.
    bool isDerived(const Rtti& other) const;

private:
    std::string name;
    const Rtti* base;
};
}

// Declares the runtime-type record, getType() and getSharedPointer() of a class.
#define TOVRANE_DECLARE_RTTI(ClassName)                                            \
public:                                                                            \
    static const ::Tovrane::Rtti RuntimeType;                                      \
    const ::Tovrane::Rtti& getType() const override { return RuntimeType; }       \
    boost::shared_ptr<ClassName> getSharedPointer()                                \
    {                                                                              \
        return boost::dynamic_pointer_cast<ClassName>(shared_from_this());         \
    }                                                                              \
    boost::shared_ptr<const ClassName> getSharedPointer() const                    \
    {                                                                              \
        return boost::dynamic_pointer_cast<const ClassName>(shared_from_this());   \
    }

// Defines the record in a source file: TOVRANE_IMPLEMENT_RTTI(Tovrane, Node, Spatial).
#define TOVRANE_IMPLEMENT_RTTI(Namespace, ClassName, BaseName)                     \
    const ::Tovrane::Rtti Namespace::ClassName::RuntimeType(                       \
        #Namespace "." #ClassName, &Namespace::BaseName::RuntimeType)

#endif
