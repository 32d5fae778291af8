list(APPEND libs framework)
