// The link handling of Tolvan's element list: cursor moves, appending, detaching and deleting,
// written once for every element type.
#include "control/element_list.h"

LinkedElement::~LinkedElement() {
    if (previous_ != nullptr) {
        previous_->next_ = nullptr;
    }
    // The rest of the chain goes one by one, each unlinked first, so that a long chain does not
    // nest one destructor call per element.
    LinkedElement* rest = next_;
    next_ = nullptr;
    while (rest != nullptr) {
        LinkedElement* after = rest->next_;
        rest->next_ = nullptr;
        rest->previous_ = nullptr;
        delete rest;
        rest = after;
    }
}

LinkedElement* LinkedElementList::First() {
    current_ = head_;
    currentIndex_ = head_ != nullptr ? 1 : 0;
    return current_;
}

LinkedElement* LinkedElementList::Next() {
    if (current_ != nullptr) {
        current_ = current_->next_;
        ++currentIndex_;
    }
    return current_;
}

LinkedElement* LinkedElementList::Last() {
    current_ = tail_;
    currentIndex_ = count_;
    return current_;
}

LinkedElement* LinkedElementList::Previous() {
    if (current_ != nullptr) {
        current_ = current_->previous_;
        --currentIndex_;
    }
    return current_;
}

LinkedElement* LinkedElementList::Add(LinkedElement* element) {
    if (element == nullptr || element->next_ != nullptr || element->previous_ != nullptr ||
        element == head_) {
        return nullptr;
    }
    if (head_ == nullptr) {
        head_ = element;
    } else {
        // Tail never has a successor: only this class links elements.
        tail_->next_ = element;
        element->previous_ = tail_;
    }
    ++count_;
    tail_ = element;
    current_ = element;
    currentIndex_ = count_;
    return element;
}

LinkedElement* LinkedElementList::Detach() {
    LinkedElement* detached = current_;
    if (detached == nullptr) {
        return nullptr;
    }
    LinkedElement* before = detached->previous_;
    LinkedElement* after = detached->next_;
    if (before != nullptr) {
        before->next_ = after;
    } else {
        head_ = after;
    }
    if (after != nullptr) {
        after->previous_ = before;
    } else {
        tail_ = before;
    }
    detached->next_ = nullptr;
    detached->previous_ = nullptr;
    --count_;
    current_ = after;
    return detached;
}

LinkedElement* LinkedElementList::DeleteCurrent() {
    delete Detach();
    return current_;
}

void LinkedElementList::Clear() {
    First();
    while (head_ != nullptr) {
        DeleteCurrent();
    }
}
