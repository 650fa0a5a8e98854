#pragma once
#include <windows.h>

#include <string>
#include <vector>

// The root of the framework's classes: what an event passes as its Sender.
class TObject {
public:
    TObject() = default;
    virtual ~TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
};

// A component belongs to its owner, which frees it when the owner itself goes (a
// window frees the components placed on it). A component without an owner belongs
// to whoever created it.
class TComponent : public TObject {
public:
    explicit TComponent(TComponent* Owner);
    ~TComponent() override;

    TComponent* Owner() const { return m_owner; }
    const std::vector<TComponent*>& Components() const { return m_components; }

    // The name a layout gives the component; fields and handlers are bound by it.
    std::string Name;
    // The owned component of that name, or null.
    TComponent* FindComponent(const std::string& name) const;
    // The window that dialogs shown on the component's behalf belong to: that of
    // the window it is placed on, up the owners; null when no window owns it.
    virtual HWND DialogOwner() const { return m_owner != nullptr ? m_owner->DialogOwner() : nullptr; }

private:
    void RemoveComponent(TComponent* component);

    TComponent* m_owner;
    std::vector<TComponent*> m_components;
};
