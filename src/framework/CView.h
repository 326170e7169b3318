#pragma once

// A view of the document: told when a database has been created or opened
// (initial update) and when the document changed as a whole (update).
class CView {
public:
    virtual ~CView() = default;
    virtual void onInitialUpdate() = 0;
    virtual void onUpdate(CView* sender) = 0;
};
