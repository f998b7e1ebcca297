// filled in by the layer's owner
