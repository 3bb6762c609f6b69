// a folder the dependency rule does not know
