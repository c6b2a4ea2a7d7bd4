# The picture bombs are shared with the tests.
tamsel_stage_includes(bench_pictures tests/support PRIVATE)
