// The process's global gSOAP unit: only the standard envelope, header and
// fault definitions and the global namespace table, nothing of its own.
//gsoap ns service name: SoapGlobal
//gsoap ns service namespace: urn:tandril-soapglobal
