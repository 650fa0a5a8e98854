#include "Component.h"

#include <algorithm>

TComponent::TComponent(TComponent* Owner) : m_owner(Owner) {
    if (m_owner != nullptr) m_owner->m_components.push_back(this);
}

TComponent::~TComponent() {
    // Newest first, as they were placed; each one leaves the list as it goes.
    while (!m_components.empty()) delete m_components.back();
    if (m_owner != nullptr) m_owner->RemoveComponent(this);
}

void TComponent::RemoveComponent(TComponent* component) {
    auto found = std::find(m_components.begin(), m_components.end(), component);
    if (found != m_components.end()) m_components.erase(found);
}

TComponent* TComponent::FindComponent(const std::string& name) const {
    for (TComponent* component : m_components)
        if (component->Name == name) return component;
    return nullptr;
}
