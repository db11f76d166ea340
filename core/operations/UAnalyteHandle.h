// An analyte a window holds across the event loop.
#pragma once

#include "UOperations.h"

// One of the list is held by its handle and looked up at each use, so that a reload of the list from
// the server can never leave it dangling: it is the analyte of that handle in the list, or none once it
// is gone. One given from outside the list (a copy the window works on, or a test's) is held as given.
template <class T> class TAnalyteHandleOf {
public:
    TAnalyteHandleOf() = default;
    TAnalyteHandleOf(T* a) { *this = a; }
    TAnalyteHandleOf& operator=(T* a) {
        uid_ = a ? a->Uid : 0;
        outside_ = a && Operations().Find(uid_) != a ? a : nullptr;
        return *this;
    }
    T* get() const {
        if (outside_) return outside_;
        return uid_ ? Operations().Find(uid_) : nullptr;
    }
    operator T*() const { return get(); }
    T* operator->() const { return get(); }
    T& operator*() const { return *get(); }

private:
    TAnalyteId uid_ = 0;
    T* outside_ = nullptr;
};

using TAnalyteHandle = TAnalyteHandleOf<TAnalyte>;
using TConstAnalyteHandle = TAnalyteHandleOf<const TAnalyte>;
