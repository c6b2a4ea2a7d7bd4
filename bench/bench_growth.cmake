# The growth benchmark needs only the parser.
set_property(TARGET bench_growth PROPERTY LINK_LIBRARIES benchmark::benchmark tamsel_xml)
