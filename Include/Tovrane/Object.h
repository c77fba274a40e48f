#ifndef TOVRANE_OBJECT_H
#define TOVRANE_OBJECT_H

#include "Tovrane/Rtti.h"

#include <boost/enable_shared_from_this.hpp>
#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace Tovrane
{
class Controller;
class Object;
typedef boost::shared_ptr<Controller> ControllerPtr;
typedef boost::shared_ptr<Object> ObjectPtr;

// Root of every shared engine and game object: shared ownership with a way
// back to the owning pointer, a unique id, a name and attached controllers.
class Object : public boost::enable_shared_from_this<Object>
{
public:
    static const Rtti RuntimeType;

    Object();
    virtual ~Object();
    virtual const Rtti& getType() const { return RuntimeType; }

    ObjectPtr getSharedPointer() { return shared_from_this(); }

    void addController(ControllerPtr controller);
    void removeController(ControllerPtr controller);
    void removeAllControllers();
    ControllerPtr getController(int i) const;
    int getControllerQuantity() const { return static_cast<int>(controllers.size()); }
    void updateControllers(unsigned int appTime);

    const std::string& getName() const { return name; }
    void setName(const std::string& newName) { name = newName; }
    std::uint32_t getID() const { return id; }

    // The id the next constructed object will take.
    static std::uint32_t peekNextID() { return nextID.load(); }

    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

protected:
    std::vector<ControllerPtr> controllers;
    std::string name;
    std::uint32_t id;

private:
    // Objects are built on the loader thread too, so the counter is atomic.
    static std::atomic<std::uint32_t> nextID;
};
}

#endif
