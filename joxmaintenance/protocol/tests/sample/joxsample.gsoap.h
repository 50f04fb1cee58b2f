// A small unrelated gSOAP unit in its own C++ namespace, to show that such
// units live beside the maintenance unit and the one global unit.
//gsoap smp schema namespace: urn:tandril-sample
//gsoap smp schema elementForm: unqualified

class smp__Note
{
  public:
    std::string Text 1;
    int Count 1;
    struct soap* soap;
};
