#pragma once
// Helpers for test doubles written against the C declarations of COM interfaces (CINTERFACE):
// an object's interface is a "face", a method table followed by the object it belongs to, and
// the tables are filled in method by method, leaving null every method the container must not
// call. Include after defining CINTERFACE and CONST_VTABLE.

#include <windows.h>

#include <unknwn.h>

namespace kesto::testing {

// One interface of an object: what an interface pointer points at.
template <typename Owner>
struct Face {
    const void* table;
    Owner* owner;
};

template <typename Owner, typename Interface>
Owner& OwnerOf(Interface* self) {
    return *reinterpret_cast<Face<Owner>*>(self)->owner;
}

template <typename Interface, typename Owner>
Interface* AsInterface(Face<Owner>& face) {
    return reinterpret_cast<Interface*>(&face);
}

// The three IUnknown methods of a table, answered by the owner's QueryInterface, AddRef and
// Release.
template <typename Owner, typename Interface, typename Table>
void FillUnknown(Table& table) {
    table.QueryInterface = [](Interface* self, REFIID iid, void** object) {
        return OwnerOf<Owner>(self).QueryInterface(iid, object);
    };
    table.AddRef = [](Interface* self) { return OwnerOf<Owner>(self).AddRef(); };
    table.Release = [](Interface* self) { return OwnerOf<Owner>(self).Release(); };
}

// A counted reference to an interface of C declaration.
template <typename Interface>
class Ref {
  public:
    Ref() = default;
    ~Ref() { Reset(); }
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;

    // Holds the object (taking a reference of its own), letting go of the one held.
    void Reset(Interface* object = nullptr) {
        if (object != nullptr) {
            object->lpVtbl->AddRef(object);
        }
        if (object_ != nullptr) {
            object_->lpVtbl->Release(object_);
        }
        object_ = object;
    }
    // For an out-argument that hands over a reference.
    Interface** Out() {
        Reset();
        return &object_;
    }
    Interface* get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

  private:
    Interface* object_ = nullptr;
};

// Hands the face out through an out-argument, counting the reference.
template <typename Interface, typename Owner>
HRESULT HandOut(Face<Owner>& face, void** object) {
    *object = AsInterface<Interface>(face);
    face.owner->AddRef();
    return S_OK;
}

}  // namespace kesto::testing
