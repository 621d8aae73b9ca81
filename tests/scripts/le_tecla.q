* LE com & lê uma tecla e a fala; com TECLA, o estado de Shift, Ctrl e Alt vem antes do código.
le k &
escreve k
le k&
escreve k
le $chave &
escreve $chave
le k &
escreve k
le mudo k &
escreve k
le tecla k
escreve k
le tecla k
escreve k
le tecla k
escreve k
le tecla k
escreve k
le Tecla k &
escreve k
le &
le k &
escreve k
