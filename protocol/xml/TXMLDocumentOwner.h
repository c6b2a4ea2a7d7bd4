#pragma once
// What a document needs from the parser component that loaded or built it.
// TXMLParser derives from it (and the service document through it). A
// document keeps a weak link to its owner: when the owner is destroyed first,
// the document sees none.
//
// For the parser side: derive TXMLParser from TXMLDocumentOwner and return
// its FormatedOutput from DocumentFormatedOutput(); give a document its parser
// with TXMLDocument::SetParser(this).

#include <QString>
#include <memory>

class TXMLDocumentOwner {
public:
    TXMLDocumentOwner();
    virtual ~TXMLDocumentOwner();
    TXMLDocumentOwner(const TXMLDocumentOwner&) = delete;
    TXMLDocumentOwner& operator=(const TXMLDocumentOwner&) = delete;

    // Whether the writer indents children by three spaces per level.
    virtual bool DocumentFormatedOutput() const = 0;
    // Characters a parse or a save had to replace with '_', as the text of the
    // information the user is given (nothing by default).
    virtual void DocumentUnconverted(const QString& message) { (void)message; }

    // The link a document keeps; it reads nullptr once the owner is gone.
    std::shared_ptr<TXMLDocumentOwner* const> OwnerLink() const { return m_link; }

private:
    std::shared_ptr<TXMLDocumentOwner*> m_link;
};
