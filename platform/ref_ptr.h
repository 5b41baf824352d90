// Intrusive reference counting for the objects of the 2-D and 3-D layers: the count
// lives in the object (RefCounted), and a RefPtr holds one reference for as long as
// it holds the object.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

// Release returns the references left, and at 0 the object goes. Each object's
// destructor lets go of what it holds.
template <typename Object>
class RefCounted {
public:
    uint32_t AddRef() { return ++references_; }
    uint32_t Release()
    {
        if (--references_ > 0) return references_;
        delete static_cast<Object*>(this);
        return 0;
    }

protected:
    RefCounted() = default;
    ~RefCounted() = default;

private:
    uint32_t references_ = 1;
};

template <typename Object>
class RefPtr {
public:
    RefPtr() = default;
    RefPtr(std::nullptr_t) {}
    // Takes a reference of its own.
    explicit RefPtr(Object* object) : object_(object)
    {
        if (object_) object_->AddRef();
    }
    // Takes over the reference a create call handed out.
    static RefPtr adopt(Object* object)
    {
        RefPtr adopted;
        adopted.object_ = object;
        return adopted;
    }
    RefPtr(const RefPtr& other) : RefPtr(other.object_) {}
    RefPtr(RefPtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    RefPtr& operator=(RefPtr other) noexcept
    {
        std::swap(object_, other.object_);
        return *this;
    }
    ~RefPtr() { reset(); }

    Object* get() const { return object_; }
    Object* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    bool operator==(std::nullptr_t) const { return object_ == nullptr; }

    // Lets go of the reference held, if any: the references the object has left,
    // 0 when it went or nothing was held.
    uint32_t reset() { return object_ ? std::exchange(object_, nullptr)->Release() : 0; }
    // The slot a create call fills with a new reference, emptied first.
    Object** put()
    {
        reset();
        return &object_;
    }
    // Hands the reference held to the caller, as a create call's result.
    Object* leak() { return std::exchange(object_, nullptr); }

private:
    Object* object_ = nullptr;
};
