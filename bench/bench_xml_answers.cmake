# The answers go through the service connection: the protocol layer and the
# dialogs room (whose responder answers the message box) are all it needs.
set_property(TARGET bench_xml_answers PROPERTY LINK_LIBRARIES
  benchmark::benchmark tamsel_protocol tamsel_platform_dialogs ZLIB::ZLIB Qt6::Widgets Qt6::Network)
