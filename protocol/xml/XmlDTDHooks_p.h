#pragma once
// The DTD side of the document model (TXMLDTDHooks): entity resolution and
// content parsing, attribute types, loading of external DTDs, validation.

class TXMLDocument;
class TXMLElement;

// Installs the implementation once (idempotent).
void InstallXmlDTDHooks();

// Copies of the attributes of type ID in root's subtree go to the
// document's ID list, for the validation of ID and IDREF values.
void GatherIdAttributes(TXMLDocument* document, TXMLElement* root);
